#pragma once
// The front-end's conversions between its own values and Qt's: UTF-8 text
// and colours in the platform's 0x00BBGGRR form.

#include <QColor>
#include <QString>
#include <cstdint>
#include <string_view>

#include "platform/bitmap.h"

namespace quorvel {

inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QColor ToQColor(platform::ColorRef colour) {
  return QColor(platform::RedOf(colour), platform::GreenOf(colour), platform::BlueOf(colour));
}

inline platform::ColorRef ToColorRef(const QColor& colour) {
  return platform::MakeColorRef(static_cast<std::uint8_t>(colour.red()),
                                static_cast<std::uint8_t>(colour.green()),
                                static_cast<std::uint8_t>(colour.blue()));
}

}  // namespace quorvel
