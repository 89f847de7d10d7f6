// The sixteen small pictures of the installation tree, drawn by the program, in image-list
// order: 0 house (object), 1 block, 2 lightning rod, 3 equipotential bar, 4 fuse, 5 pole,
// 6 and 7 connections, 8 earthing, 9 RCD, 10 cancel, 11-13 blue/green/red dots, 14 square
// (circuit), 15 small green dot (measuring point).
#pragma once

#include <QIcon>
#include <QPixmap>
#include <vector>

namespace zarn {

inline constexpr int TreeImageSize = 16;

// One image; a null pixmap outside 0..15.
QPixmap treeImage(int index);

// All sixteen, created once and kept for the program's lifetime.
class TreeImages {
public:
    TreeImages();
    int count() const { return static_cast<int>(icons_.size()); }
    // The icon of an index; a null icon outside the list (index -1: no image).
    QIcon icon(int index) const;

private:
    std::vector<QIcon> icons_;
};

} // namespace zarn
