// Colours and constants shared by the panel's controls.
#pragma once

#include <QColor>

namespace velmora::widgets::look {

inline const QColor kAccent{0x25, 0x75, 0xDC};
inline const QColor kAccentDark{0x1A, 0x5F, 0xBA};
inline const QColor kGroove{0xC9, 0xC9, 0xC9};
inline const QColor kTrackOff{0xB4, 0xB4, 0xB4};
inline const QColor kTrackOffHover{0x9E, 0x9E, 0x9E};
inline const QColor kThumbBorder{0x8C, 0x8C, 0x8C};
inline const QColor kFocusRing{0x25, 0x75, 0xDC, 0x80};

// A disabled control is drawn at 60 % opacity.
inline constexpr double kDisabledOpacity = 0.6;

}  // namespace velmora::widgets::look
