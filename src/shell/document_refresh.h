#pragma once
#include <windows.h>

#include "document/document_change.h"

class Editor;

// The one observer of the editor's document: from what a change touched it
// brings the views, the bars, the command state and the recovery copy up to
// date, always in the same order.
class DocumentRefresh : public DocumentObserver
{
public:
    explicit DocumentRefresh(Editor& editor) : editor_(editor) {}
    DocumentRefresh(const DocumentRefresh&) = delete;
    DocumentRefresh& operator=(const DocumentRefresh&) = delete;

    // Told from the main window's creation until its destruction.
    void Attach(HWND mainWindow);
    void Detach();
    void DocumentChanged(unsigned changes) override;

private:
    Editor& editor_;
    HWND mainWindow_ = nullptr;
};
