#pragma once
// "Options": the program options and the tape editor. Loads every field when
// made; OK writes the check boxes and the prompt (OptionsSettings), then looks
// the editor up: found, it is written as typed and the dialog closes; not
// found, the operator is told "Unable to locate the tape editor.  Please
// choose an editor." and the dialog stays open at the editor field (what was
// already written stays). The default editor, left as it is, is never asked
// for: where it does not exist the dialog says which editor the tapes open in
// instead, and OK writes nothing for it.
#include "frame/OptionsSettings.h"
#include "frame/TapeEditor.h"

#include <QDialog>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class SettingsStore;

class COptionsDialog : public QDialog {
    Q_OBJECT

public:
    using FileChooser = std::function<QString(QWidget* parent, const QString& initial)>;
    using MessageSink = std::function<void(QWidget* parent, const QString& text)>;

    COptionsDialog(SettingsStore& settings, EditorEnvironment env, QWidget* parent = nullptr);

    // Seams for tests; the defaults are the file-open dialog and a message box.
    void SetFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    void SetMessageSink(MessageSink sink) { m_message = std::move(sink); }

    // The "..." button: a chosen program's path replaces the field, and every
    // control shows its field again.
    void Browse();

    static constexpr const char* kEditorNotFound = "Unable to locate the tape editor.  Please choose an editor.";
    static constexpr const char* kLoggerAddressBad =
        "The logger address must be a numeric IP address, such as 127.0.0.1.";

public slots:
    void accept() override;

private:
    void PushFields();
    void PullFields();
    void RefreshEditorNote();

    SettingsStore& m_settings;
    EditorEnvironment m_env;
    OptionsSettings m_fields;
    QCheckBox* m_splash = nullptr;
    QCheckBox* m_initLogo = nullptr;
    QCheckBox* m_merge = nullptr;
    QCheckBox* m_zulu = nullptr;
    QCheckBox* m_echo = nullptr;
    QCheckBox* m_caps = nullptr;
    QCheckBox* m_adif = nullptr;
    QLineEdit* m_editor = nullptr;
    QLabel* m_editorNote = nullptr;
    QButtonGroup* m_prompt = nullptr;
    QCheckBox* m_logger = nullptr;
    QLineEdit* m_loggerAddress = nullptr;
    QSpinBox* m_loggerPort = nullptr;
    FileChooser m_chooseFile;
    MessageSink m_message;
};
