#include "frame/widgets/COptionsDialog.h"

#include "app/SettingsStore.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QCheckBox* Check(const QString& text, const QString& name, QWidget* parent)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

QString Q(const std::string& s)
{
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

std::string S(const QString& s)
{
    const QByteArray b = s.toLocal8Bit();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

}  // namespace

COptionsDialog::COptionsDialog(SettingsStore& settings, EditorEnvironment env, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_env(std::move(env))
{
    setWindowTitle(QStringLiteral("Options"));
    m_chooseFile = [](QWidget* p, const QString& initial) {
        QFileDialog dialog(p);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(QStringLiteral("EXE"));
        dialog.setOption(QFileDialog::ReadOnly, true);
        // Programs here have no extension: all files are offered first.
        dialog.setNameFilters({QStringLiteral("All Files (*)"), QStringLiteral("Program Files (*.exe *.EXE)")});
        dialog.selectFile(initial);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                        : QString();
    };
    m_message = [](QWidget* p, const QString& text) { QMessageBox::warning(p, QStringLiteral("VELTRAN"), text); };

    auto* outer = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* window = new QGroupBox(QStringLiteral("Window"), this);
    auto* w = new QVBoxLayout(window);
    m_splash = Check(QStringLiteral("Initial &Splash Screen"), QStringLiteral("splash"), window);
    m_initLogo = Check(QStringLiteral("&Initial Copyright Notice"), QStringLiteral("initLogo"), window);
    w->addWidget(m_splash);
    w->addWidget(m_initLogo);
    left->addWidget(window);

    auto* rtty = new QGroupBox(QStringLiteral("RTTY"), this);
    auto* r = new QGridLayout(rtty);
    m_merge = Check(QStringLiteral("&Combine the Transmitted Data with the Received Data"), QStringLiteral("merge"), rtty);
    m_zulu = Check(QStringLiteral("Use &Zulu Time"), QStringLiteral("zulu"), rtty);
    m_echo = Check(QStringLiteral("Echo &Imported Files to Display"), QStringLiteral("echoImport"), rtty);
    m_caps = Check(QStringLiteral("&Automatic Capitalization"), QStringLiteral("autoCaps"), rtty);
    m_adif = Check(QStringLiteral("ADIF &Log Format"), QStringLiteral("useAdif"), rtty);
    int row = 0;
    for (QCheckBox* b : {m_merge, m_zulu, m_echo, m_caps, m_adif})
        r->addWidget(b, row++, 0, 1, 3);
    auto* editorLabel = new QLabel(QStringLiteral("&Tape Editor:  "), rtty);
    m_editor = new QLineEdit(rtty);
    m_editor->setObjectName(QStringLiteral("editor"));
    editorLabel->setBuddy(m_editor);
    auto* browse = new QPushButton(QStringLiteral("..."), rtty);
    browse->setObjectName(QStringLiteral("browse"));
    browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("...")) * 3);
    r->addWidget(editorLabel, row, 0);
    r->addWidget(m_editor, row, 1);
    r->addWidget(browse, row++, 2);
    m_editorNote = new QLabel(rtty);
    m_editorNote->setObjectName(QStringLiteral("editorNote"));
    m_editorNote->setWordWrap(true);
    r->addWidget(m_editorNote, row, 0, 1, 3);
    left->addWidget(rtty);

    // Ours: every report also handed to a logging program over UDP.
    auto* logger = new QGroupBox(QStringLiteral("Logger"), this);
    auto* g = new QGridLayout(logger);
    m_logger = Check(QStringLiteral("Send Each Report to a Logging &Program (UDP)"), QStringLiteral("loggerUdp"), logger);
    auto* addressLabel = new QLabel(QStringLiteral("Add&ress:"), logger);
    m_loggerAddress = new QLineEdit(logger);
    m_loggerAddress->setObjectName(QStringLiteral("loggerAddress"));
    addressLabel->setBuddy(m_loggerAddress);
    auto* portLabel = new QLabel(QStringLiteral("P&ort:"), logger);
    m_loggerPort = new QSpinBox(logger);
    m_loggerPort->setObjectName(QStringLiteral("loggerPort"));
    m_loggerPort->setRange(1, 65535);
    portLabel->setBuddy(m_loggerPort);
    g->addWidget(m_logger, 0, 0, 1, 4);
    g->addWidget(addressLabel, 1, 0);
    g->addWidget(m_loggerAddress, 1, 1);
    g->addWidget(portLabel, 1, 2);
    g->addWidget(m_loggerPort, 1, 3);
    left->addWidget(logger);
    outer->addLayout(left);

    auto* right = new QVBoxLayout;
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &COptionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    right->addWidget(buttons);
    auto* promptBox = new QGroupBox(QStringLiteral("Prompt"), this);
    auto* p = new QVBoxLayout(promptBox);
    m_prompt = new QButtonGroup(promptBox);
    const QStringList labels{QStringLiteral("&Date"), QStringLiteral("Time"), QStringLiteral("%"), QStringLiteral(">"),
                             QStringLiteral("None")};
    for (int i = 0; i < labels.size(); ++i) {
        auto* b = new QRadioButton(labels[i], promptBox);
        b->setObjectName(QStringLiteral("prompt%1").arg(i));
        m_prompt->addButton(b, i);
        p->addWidget(b);
    }
    right->addWidget(promptBox);
    right->addStretch();
    outer->addLayout(right);

    connect(browse, &QPushButton::clicked, this, &COptionsDialog::Browse);
    connect(m_editor, &QLineEdit::textChanged, this, &COptionsDialog::RefreshEditorNote);

    m_fields = OptionsSettings::Read(m_settings);
    PushFields();
}

void COptionsDialog::PushFields()
{
    m_splash->setChecked(m_fields.m_bSplash);
    m_merge->setChecked(m_fields.m_bXRMerge);
    m_editor->setText(Q(m_fields.m_strEditor));
    m_zulu->setChecked(m_fields.m_bZulu);
    m_echo->setChecked(m_fields.m_bEchoImport);
    m_caps->setChecked(m_fields.m_bAutoCaps);
    m_initLogo->setChecked(m_fields.m_bInitLogo);
    m_prompt->setExclusive(false);
    for (QAbstractButton* b : m_prompt->buttons())
        b->setChecked(m_prompt->id(b) == m_fields.m_nPrompt);
    m_prompt->setExclusive(true);
    m_adif->setChecked(m_fields.m_bUseADIF);
    m_logger->setChecked(m_fields.m_bLoggerUdp);
    m_loggerAddress->setText(Q(m_fields.m_strLoggerAddress));
    m_loggerPort->setValue(m_fields.m_nLoggerPort);
    RefreshEditorNote();
}

void COptionsDialog::PullFields()
{
    m_fields.m_bSplash = m_splash->isChecked();
    m_fields.m_bXRMerge = m_merge->isChecked();
    m_fields.m_strEditor = S(m_editor->text());
    m_fields.m_bZulu = m_zulu->isChecked();
    m_fields.m_bEchoImport = m_echo->isChecked();
    m_fields.m_bAutoCaps = m_caps->isChecked();
    m_fields.m_bInitLogo = m_initLogo->isChecked();
    m_fields.m_nPrompt = m_prompt->checkedId();
    m_fields.m_bUseADIF = m_adif->isChecked();
    m_fields.m_bLoggerUdp = m_logger->isChecked();
    m_fields.m_strLoggerAddress = S(m_loggerAddress->text().trimmed());
    m_fields.m_nLoggerPort = m_loggerPort->value();
}

void COptionsDialog::RefreshEditorNote()
{
    const std::string text = S(m_editor->text());
    QString note;
    if (text == keys::Editor.def && m_env.find && m_env.find(text).empty()) {
        const EditorCommand cmd = ResolveTapeEditor(text, "TAPECQ.TXT", m_env);
        note = cmd.description.empty()
                   ? QStringLiteral("%1 is not on this system, and no other editor was found: choose one.").arg(Q(text))
                   : QStringLiteral("%1 is not on this system: tapes open in %2.").arg(Q(text), Q(cmd.description));
    }
    m_editorNote->setText(note);
    m_editorNote->setVisible(!note.isEmpty());
}

void COptionsDialog::accept()
{
    PullFields();
    // A logger address that could never be sent to is refused before
    // anything is written, so the operator sees it now and not never.
    if (!m_fields.LoggerValid()) {
        m_message(this, QString::fromLatin1(kLoggerAddressBad));
        m_loggerAddress->setFocus();
        return;
    }
    m_fields.WriteChecks(m_settings);
    const std::string& editor = m_fields.m_strEditor;
    // The default left as it was is not the operator's choice: nothing is
    // written for it, and the tapes open in the desktop's editor instead.
    const bool untouchedDefault = editor == keys::Editor.def && m_settings.Get(keys::Editor) == editor;
    if (untouchedDefault) {
        QDialog::accept();
        return;
    }
    if (!m_env.find || m_env.find(editor).empty()) {
        m_message(this, QString::fromLatin1(kEditorNotFound));
        m_editor->setFocus();
        return;
    }
    m_settings.Put(keys::Editor, editor);
    QDialog::accept();
}

void COptionsDialog::Browse()
{
    const QString chosen = m_chooseFile(this, Q(m_fields.m_strEditor));
    if (chosen.isEmpty())
        return;
    m_fields.m_strEditor = S(chosen);
    PushFields();
}
