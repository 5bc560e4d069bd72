#include "app/widgets/PrintPreviewPages.h"

#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>

void ApplyPreviewPages(QPrintPreviewDialog& dialog, SettingsStore& settings)
{
    if (auto* view = dialog.findChild<QPrintPreviewWidget*>()) {
        const bool facing = settings.Get(keys::PreviewPages) >= 2;
        view->setViewMode(facing ? QPrintPreviewWidget::FacingPagesView : QPrintPreviewWidget::SinglePageView);
    }
}

void KeepPreviewPages(QPrintPreviewDialog& dialog, SettingsStore& settings)
{
    const auto* view = dialog.findChild<QPrintPreviewWidget*>();
    if (!view)
        return;
    const bool facing = settings.Get(keys::PreviewPages) >= 2;
    if (view->viewMode() == QPrintPreviewWidget::SinglePageView && facing)
        settings.Put(keys::PreviewPages, 1);
    else if (view->viewMode() == QPrintPreviewWidget::FacingPagesView && !facing)
        settings.Put(keys::PreviewPages, 2);
}

void RunPrintPreview(QPrintPreviewDialog& dialog, SettingsStore& settings)
{
    ApplyPreviewPages(dialog, settings);
    dialog.exec();
    KeepPreviewPages(dialog, settings);
}
