#include "app/widgets/PaneFontDialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

PaneFontDialog::PaneFontDialog(const QFont& font, const QColor& color, QWidget* parent)
    : QDialog(parent), m_color(color)
{
    setWindowTitle(QStringLiteral("Font"));
    auto* layout = new QVBoxLayout(this);
    // The system's font dialog, embedded without its own buttons.
    m_fonts = new QFontDialog(font, this);
    m_fonts->setOptions(QFontDialog::NoButtons | QFontDialog::MonospacedFonts | QFontDialog::ScalableFonts |
                        QFontDialog::NonScalableFonts);
    m_fonts->setWindowFlags(Qt::Widget);
    m_fonts->setCurrentFont(font);
    layout->addWidget(m_fonts);
    auto* row = new QHBoxLayout;
    m_colourButton = new QPushButton(QStringLiteral("&Colour..."), this);
    m_colourButton->setObjectName(QStringLiteral("colour"));
    connect(m_colourButton, &QPushButton::clicked, this, &PaneFontDialog::ShowColour);
    row->addWidget(m_colourButton);
    row->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    row->addWidget(buttons);
    layout->addLayout(row);
}

PaneFontChoice PaneFontDialog::Choice() const
{
    return {m_fonts->currentFont(), m_color};
}

void PaneFontDialog::ShowColour()
{
    const QColor chosen = QColorDialog::getColor(m_color, this, QStringLiteral("Colour"));
    if (chosen.isValid())
        m_color = chosen;
}

std::optional<PaneFontChoice> PaneFontDialog::Choose(QWidget* parent, const QFont& font, const QColor& color)
{
    PaneFontDialog dialog(font, color, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Choice();
}
