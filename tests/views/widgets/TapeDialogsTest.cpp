// The tape file dialogs as they are shown.
#include "views/widgets/TapeDialogs.h"

#include <QFileDialog>
#include <gtest/gtest.h>

TEST(TapeDialogs, ExportDialogSavesWithItsTitleNameAndFilter)
{
    const auto dialog = TapeDialogs::MakeExportDialog(nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Tape Export"));
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("TXT"));
    EXPECT_EQ(dialog->nameFilters(),
              (QStringList{QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*.*)")}));
    ASSERT_FALSE(dialog->selectedFiles().isEmpty());
    EXPECT_TRUE(dialog->selectedFiles().front().endsWith(QStringLiteral("/VELTRAN Export.txt")));
}

TEST(TapeDialogs, ImportDialogOpensAnExistingFile)
{
    const auto dialog = TapeDialogs::MakeImportDialog(nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Tape Import"));
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("TXT"));
    EXPECT_EQ(dialog->nameFilters().front(), QStringLiteral("Text Files (*.txt)"));
}
