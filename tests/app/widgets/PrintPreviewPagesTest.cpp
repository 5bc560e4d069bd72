#include "app/MemorySettingsStore.h"
#include "app/SettingsKeys.h"
#include "app/widgets/PrintPreviewPages.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <gtest/gtest.h>

TEST(PrintPreviewPages, PreviewOpensWithTheStoredPagesAndKeepsTheChoice)
{
    using Mode = QPrintPreviewWidget::ViewMode;
    struct Case {
        int stored;
        Mode opens;
        Mode chosen;
        int storedAfter;
    };
    const Case cases[] = {
        {0, Mode::SinglePageView, Mode::SinglePageView, 0},
        {1, Mode::SinglePageView, Mode::FacingPagesView, 2},
        {2, Mode::FacingPagesView, Mode::FacingPagesView, 2},
        {7, Mode::FacingPagesView, Mode::SinglePageView, 1},
        {-3, Mode::SinglePageView, Mode::AllPagesView, -3},
    };
    for (const Case& c : cases) {
        MemorySettingsStore settings;
        settings.Put(keys::PreviewPages, c.stored);
        QPrinter printer;
        QPrintPreviewDialog dialog(&printer);
        ApplyPreviewPages(dialog, settings);
        auto* view = dialog.findChild<QPrintPreviewWidget*>();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->viewMode(), c.opens) << c.stored;
        view->setViewMode(c.chosen);
        KeepPreviewPages(dialog, settings);
        EXPECT_EQ(settings.Get(keys::PreviewPages), c.storedAfter) << c.stored;
    }
}
