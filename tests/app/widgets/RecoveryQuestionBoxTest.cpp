#include "app/widgets/RecoveryQuestionBox.h"

#include "support/ModalDriver.h"

#include <QMessageBox>
#include <gtest/gtest.h>

namespace {

TEST(RecoveryQuestionBox, AnswersAsTheOperatorClicksAndEnterKeepsTheText)
{
    const struct {
        const char* name;
        void (*answer)(QMessageBox* box);
        bool restore;
    } cases[] = {
        {"Yes clicked", [](QMessageBox* box) { QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton); }, true},
        {"No clicked", [](QMessageBox* box) { QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton); }, false},
        {"Enter pressed", [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString shown;
        WhenModal([&shown, answer = c.answer](QDialog* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            ASSERT_TRUE(box);
            shown = box->text();
            answer(box);
        });
        EXPECT_EQ(AskRestoreSession(nullptr, QStringLiteral("Restore the text?")), c.restore);
        EXPECT_EQ(shown, "Restore the text?");
    }
}

}  // namespace
