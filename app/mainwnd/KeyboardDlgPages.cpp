// KeyboardDlg: the pages' builders, layouts and handlers. The pages are built
// page by page; until a page is, its builder creates nothing, its layout places
// nothing and its handlers report the event as not handled (0).
#include "mainwnd/KeyboardDlg.h"

void KeyboardDlg::ApplyLanguageToPageItems() {}
