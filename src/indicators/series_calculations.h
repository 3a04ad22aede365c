// The whole-series calculations (inside src/indicators only): the formulas
// of formulas.h for the bars first..last of a SeriesWork, the windowed ones
// with their window sums taken from window_columns.h (series_calculations.cpp),
// the recursive ones walked from the oldest bar (recursive_series.cpp).
// Every value is the one-bar formula's to the bit; a test holds them to it.
#pragma once

#include "indicators/series_work.h"

namespace indicators {

void RsiSeries(SeriesWork& work);
void MacdSeries(SeriesWork& work);
void KdSeries(SeriesWork& work);
void ObvSeries(SeriesWork& work);

void BiasSeries(SeriesWork& work);
void BollSeries(SeriesWork& work);
void WilliamsRSeries(SeriesWork& work);
void DmiSeries(SeriesWork& work);
void CciSeries(SeriesWork& work);
void ArbrSeries(SeriesWork& work);
void PsySeries(SeriesWork& work);
void CrSeries(SeriesWork& work);
void VrSeries(SeriesWork& work);
void RocSeries(SeriesWork& work);
void DmaSeries(SeriesWork& work);

}  // namespace indicators
