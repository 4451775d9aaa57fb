#pragma once

#include <QString>

#include <bitset>

// Areas of the picture the comparison leaves out (a tree in the wind, a
// screen, a road): cells of a fixed grid over the whole picture, whatever its
// size. Stored as text, one hexadecimal digit for four cells, row by row; an
// empty mask (the default) is an empty text.
class IgnoreMask
{
public:
    static constexpr int kColumns = 16;
    static constexpr int kRows = 12;

    bool empty() const { return cells_.none(); }
    bool at(int column, int row) const;
    void set(int column, int row, bool ignored);
    int count() const { return int(cells_.count()); }

    // The cell holding a picture's pixel (x, y) of a w x h picture.
    static int ColumnOf(int x, int w) { return w > 0 ? x * kColumns / w : 0; }
    static int RowOf(int y, int h) { return h > 0 ? y * kRows / h : 0; }
    bool covers(int x, int y, int w, int h) const { return at(ColumnOf(x, w), RowOf(y, h)); }

    QString toText() const;
    // A text that is not a mask (damaged, another length) gives no mask.
    static IgnoreMask FromText(const QString& text);

    bool operator==(const IgnoreMask&) const = default;

private:
    std::bitset<std::size_t(kColumns* kRows)> cells_;
};
