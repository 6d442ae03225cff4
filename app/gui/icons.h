// The pictures of the toolbar buttons and of status panel 5, drawn at run time.
#pragma once

#include <QIcon>
#include <QString>

namespace vireo {

// The icon of a toolbar key ("New", "Open", "ute", "Save", "cut", "Copy", "Paste", "find",
// "converti_file", "graph", "converti_rtf", "converti_fresa", "setup", "immediato", "frecce", "display").
QIcon toolbar_icon(const QString& key);
// The error picture of status panel 5.
QPixmap error_picture(int size);
// The program's icon.
QIcon program_icon();

}  // namespace vireo
