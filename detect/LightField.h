#pragma once

#include <QImage>

#include <array>
#include <cstdint>
#include <vector>

class IgnoreMask;

// How the light changed from one picture to the next: one gain per colour
// channel for the whole picture (a lamp over the room, the camera's white
// balance or exposure) times a gain that varies from place to place (a lamp
// in a corner, a patch of sun, a car's headlights).
//
// Found from about three thousand points of the compared area, on a grid of
// cells: a cell's light is the median of its points' when they agree on it
// (light changes every point of a small area alike; a person does not), then
// the median of it and its four neighbours'. A cell that tells nothing (a
// person in it, the edge of a patch, clipped or ignored points) may have any
// light between the nearest cells that do. A point's light lies between the
// lights of the cells around it; comparisons count a point only when no
// light in that range explains it.
class LightField
{
public:
    static constexpr int kCellsX = 16;
    static constexpr int kCellsY = 12;
    // A place gain within this (in 1/256) of 1 everywhere: one gain for all.
    static constexpr int kFlatWithin = 6;

    // From picture a to picture b (both RGB888, b at least a's size) over the
    // inclusive area (x0, y0)-(x1, y1); cells of `mask` are left out.
    static LightField Estimate(const QImage& a, const QImage& b, int x0, int y0, int x1, int y1,
                               const IgnoreMask* mask);

    // The whole picture's gain per channel (red, green, blue), in 1/256.
    const std::array<int, 3>& channelGain() const { return channel_; }
    // Whether the place gain is 1 everywhere (the light changed alike).
    bool flat() const { return flat_; }
    // A gain, of the whole picture or of a place, never taken beyond this
    // (in 1/256): eight times the light. (Their product times a value stays
    // within 32 bits.)
    static constexpr int kMostGain = 2048;
    // The segments of a row between cell centres: before the first, between
    // each two, past the last.
    static constexpr int kSegments = kCellsX + 1;
    using SegmentGains = std::array<int, kSegments>;
    // The segment of each sample column x0, x0 + step, ... (count of them).
    std::vector<std::uint8_t> Segments(int x0, int step, int count) const;
    // On row y, per segment: the lowest and the highest place gain of the
    // cells around it, in 1/256.
    void rowRanges(int y, SegmentGains& low, SegmentGains& high) const;

private:
    std::array<int, 3> channel_{256, 256, 256};
    bool flat_ = true;
    // The area, and the least and most place gain at each cell's centre
    // (the same where the cell's points tell it).
    int x0_ = 0, y0_ = 0, width_ = 1, height_ = 1;
    std::array<int, kCellsX * kCellsY> low_{}, high_{};

    // Cell column (or row) below a coordinate and the weight of the next, 0..256.
    static void between(int at, int start, int length, int cells, int& index, int& weight);
};
