#pragma once

#include <QIcon>
#include <QList>

// The window's image list "ilMenu": glyphs of the menu items and buttons,
// drawn by the program itself. Index 0 communication settings, 1 language,
// 2 exit, 3 connect, 4 disconnect, 5 factory defaults, 6 save, 7 calibrate,
// 8 configuration management, 9 firmware update, 10 help, 11 about.
class TImageList {
public:
    static constexpr int MenuImageCount = 12;

    // The menu images.
    static TImageList MenuImages();

    int Count() const { return static_cast<int>(icons_.size()); }
    // The image at index; an empty icon outside the list.
    QIcon Icon(int index) const;

private:
    QList<QIcon> icons_;
};
