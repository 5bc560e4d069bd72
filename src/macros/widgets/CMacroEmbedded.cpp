#include "macros/widgets/CMacroEmbedded.h"

#include "app/SettingsKeys.h"
#include "macros/MacroStore.h"
#include "macros/widgets/BandScale.h"
#include "macros/widgets/DialogUnits.h"
#include "macros/widgets/DigitsOnlyEdit.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

CMacroEmbedded::CMacroEmbedded(MacroStore& store, QWidget* parent)
    : CMacroPage(parent), m_store(store), m_fields(*MacroPages::Find("CMacroEmbedded"))
{
    const MacroPageInfo& info = *MacroPages::Find("CMacroEmbedded");
    setObjectName(QString::fromLatin1(info.className));
    setMinimumSize(DialogUnits::Size(*this, info.widthDlu, info.heightDlu));
    auto* page = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    int row = 0;
    for (const MacroPages::FixedCode& code : MacroPages::EmbeddedCodes()) {
        auto* label = new QLabel(QString::fromLatin1(code.label), this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* text = new QLabel(QString::fromLatin1(code.description), this);
        text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        grid->addWidget(label, row, 0);
        grid->addWidget(text, row, 1, 1, 2);
        ++row;
    }
    auto* serialLabel = new QLabel(QString::fromLatin1(MacroPages::kSerialLabel), this);
    serialLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_serial = new DigitsOnlyEdit(this);
    m_serial->setObjectName(QString::fromLatin1(keys::MacroSerial.key));
    m_serial->setFixedWidth(DialogUnits::X(*this, MacroPages::kSerialFieldWidthDlu));
    serialLabel->setBuddy(m_serial);
    grid->addWidget(serialLabel, row, 0);
    grid->addWidget(m_serial, row, 1);
    grid->addWidget(new QLabel(QString::fromLatin1(MacroPages::kSerialNote), this), row, 2);
    grid->setColumnStretch(2, 1);
    page->addLayout(grid);

    auto* caption = new QLabel(QString::fromLatin1(MacroPages::kBandCaption), this);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(QString::fromLatin1(keys::MacroBand.key));
    m_slider->setRange(0, MacroStore::kBandCount - 1);
    m_slider->setPageStep(1);
    m_slider->setTickInterval(1);
    m_slider->setTickPosition(QSlider::TicksBelow);
    caption->setBuddy(m_slider);
    page->addWidget(caption);
    page->addWidget(m_slider);
    page->addWidget(new BandScale(*m_slider, this));
    page->addStretch(1);
}

void CMacroEmbedded::OnSetActive()
{
    m_fields.Load(m_store);
    m_slider->setRange(0, MacroStore::kBandCount - 1);
    m_slider->setValue(m_fields.BandPosition());
    const std::string& serial = m_fields.Text(keys::MacroSerial.key);
    m_serial->setText(QString::fromLatin1(serial.data(), static_cast<qsizetype>(serial.size())));
}

void CMacroEmbedded::OnOK()
{
    m_fields.SetBandPosition(m_slider->value());
    m_fields.SetText(keys::MacroSerial.key, m_serial->text().toLatin1().toStdString());
    m_fields.Save(m_store);
}
