#pragma once

// How the photo list shows its photos. The numbers are those list, node and
// tile have always used; they are stored nowhere.
enum class vbViewMode
{
    List = 1,
    SmallIcons = 2,
    BigIcons = 3
};
