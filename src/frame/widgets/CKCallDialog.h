#pragma once
// "Set the Called Station (K)": one line for the other station's call sign.
#include <QDialog>
#include <string>

class QLineEdit;

class CKCallDialog : public QDialog {
    Q_OBJECT

public:
    explicit CKCallDialog(const std::string& call, QWidget* parent = nullptr);

    // The text as confirmed, unchanged (no trimming, no case change).
    std::string m_strCall;

public slots:
    void accept() override;

private:
    QLineEdit* m_edit = nullptr;
};
