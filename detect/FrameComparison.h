#pragma once

#include <QImage>

#include <cstdint>

class IgnoreMask;

// Motion measure between two frames of the same scene, and the gate that keeps
// it from running twice at once and lets commands stop it and wait for it.
//
// CompareFrames returns the changed sample points in percent of the whole
// picture's sample grid (0 when refused). A null QImage is an absent picture.
// The first picture's size governs the grid and the denominator.
//
// With ignoreLight, the change of light is taken out first: each channel of
// the second picture is compared with the first one in the second's light (a
// gain per channel for the whole picture times a gain that varies smoothly
// over it, see LightField), so only points that changed unlike their
// surroundings count. Without it the comparison is the plain one.
//
// Sample points in the cells of `mask` never count (the denominator stays
// the whole picture's grid, as with the scan frame); no mask, or an empty one,
// costs nothing.
double CompareFrames(const QImage& first, const QImage& second, std::uint8_t step,
                     std::uint8_t sensitivity, bool frameOn, std::int32_t frameLeft,
                     std::int32_t frameTop, std::int32_t frameWidth, std::int32_t frameHeight,
                     bool ignoreLight = false, const IgnoreMask* mask = nullptr);

// Gate: comparisons are refused from program start until the first reset.
void ResetComparison();
void RequestComparisonStop();
bool IsGateStopped();
bool IsComparisonBusy();

// The step passed for the item chosen in the resolution radio group
// (0 = automatic, also for "none chosen").
std::uint8_t StepForResolutionIndex(int itemIndex);

// The per-channel change that still does not count, from the sensitivity.
int ChangeThreshold(std::uint8_t sensitivity);
