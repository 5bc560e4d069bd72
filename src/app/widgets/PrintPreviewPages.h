#pragma once
// Every print preview opens with the number of pages side by side that
// "Settings" "PreviewPages" holds (0 or 1: one page; 2 or more: two facing
// pages), and stores the operator's choice back when the preview closes, so
// the next preview opens the same way. User-interface thread only.
class QPrintPreviewDialog;
class SettingsStore;

// Sets the dialog's page view from the store (before it is shown).
void ApplyPreviewPages(QPrintPreviewDialog& dialog, SettingsStore& settings);
// Stores the page view the dialog ends with (1 or 2) when the operator
// changed it; a view of all pages changes nothing.
void KeepPreviewPages(QPrintPreviewDialog& dialog, SettingsStore& settings);
// Apply, run the dialog modally, keep.
void RunPrintPreview(QPrintPreviewDialog& dialog, SettingsStore& settings);
