#pragma once
// The About box ("About VELTRAN"): icon, product name and version, notices,
// and two lines measured when it opens: total memory and the free space where
// the program keeps its files (the current directory).
#include <QDialog>

class QLabel;

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QString MemoryLine() const;
    QString DiskLine() const;

private:
    QLabel* m_memory;
    QLabel* m_disk;
};
