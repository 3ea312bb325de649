// Card columns that several card types hold alike, and the delete marker.
#pragma once

#include "core/card_columns.hpp"

namespace cardlift {

// Columns 2-16: the card key (state, county, site, parameter, POC).
inline constexpr ColumnRange kStateColumns{2, 2};
inline constexpr ColumnRange kCountyColumns{4, 3};
inline constexpr ColumnRange kSiteColumns{7, 4};
inline constexpr ColumnRange kParameterColumns{11, 5};
inline constexpr ColumnRange kPocColumn{16, 1};
// Column 17: the duration code on raw data and audit cards.
inline constexpr ColumnRange kDurationColumn{17, 1};
// Columns 18-20 and 21-23: the unit and method codes, copied as they stand.
inline constexpr ColumnRange kUnitColumns{18, 3};
inline constexpr ColumnRange kMethodColumns{21, 3};
// Columns 24-29: the date, YYMMDD; its first two, the year, stand alone
// on the cards that split the date.
inline constexpr ColumnRange kDateColumns{24, 6};
inline constexpr ColumnRange kYearColumns{24, 2};
// Columns 30-31: the hour of a raw value, the start hour of type 1's.
inline constexpr ColumnRange kHourColumns{30, 2};
// Measured values are four columns wide; the widest, type 9's zero span
// value, five.
inline constexpr int kValueWidth = 4;
inline constexpr int kWidestValueWidth = 5;
// Column 80: the action code. 'D' asks for a delete.
inline constexpr int kActionColumn = 80;

// A value beginning with it is carried over unconverted, to be deleted.
inline constexpr char kDeleteMarker = '*';

// True for a card whose action code asks for a delete.
inline bool isDeleteCard(const CardColumns& card) { return card.column(kActionColumn) == 'D'; }

}  // namespace cardlift
