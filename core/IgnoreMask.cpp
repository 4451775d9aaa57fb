#include "IgnoreMask.h"

namespace {

constexpr int kDigits = IgnoreMask::kColumns * IgnoreMask::kRows / 4;

std::size_t indexOf(int column, int row)
{
    return std::size_t(row * IgnoreMask::kColumns + column);
}

bool inside(int column, int row)
{
    return column >= 0 && column < IgnoreMask::kColumns && row >= 0 && row < IgnoreMask::kRows;
}

} // namespace

bool IgnoreMask::at(int column, int row) const
{
    return inside(column, row) && cells_.test(indexOf(column, row));
}

void IgnoreMask::set(int column, int row, bool ignored)
{
    if (inside(column, row))
        cells_.set(indexOf(column, row), ignored);
}

QString IgnoreMask::toText() const
{
    if (empty())
        return {};
    QString text;
    text.reserve(kDigits);
    for (int d = 0; d < kDigits; ++d) {
        int nibble = 0;
        for (int bit = 0; bit < 4; ++bit)
            nibble |= cells_.test(std::size_t(4 * d + bit)) ? 8 >> bit : 0;
        text += QChar::fromLatin1("0123456789ABCDEF"[nibble]);
    }
    return text;
}

IgnoreMask IgnoreMask::FromText(const QString& text)
{
    IgnoreMask mask;
    if (text.size() != kDigits)
        return mask;
    for (int d = 0; d < kDigits; ++d) {
        bool ok = false;
        const int nibble = QString(text[d]).toInt(&ok, 16);
        if (!ok)
            return {};
        for (int bit = 0; bit < 4; ++bit)
            mask.cells_.set(std::size_t(4 * d + bit), (nibble & (8 >> bit)) != 0);
    }
    return mask;
}
