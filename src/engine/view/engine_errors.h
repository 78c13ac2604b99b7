#pragma once

namespace folium::engine {

// Error numbers the engine reports through TopicView::lastError() and the
// error records of the region functions.
inline constexpr int kErrNone = 0;
inline constexpr int kErrNoFocusedHotspot = 1014; // the region has no focused hotspot
inline constexpr int kErrNoTitle = 29001;         // the call needs an open title
inline constexpr int kErrBadTitle = 29010;        // the title file cannot be opened
inline constexpr int kErrNoContext = 29048;       // no topic bears this context string
inline constexpr int kErrNoTopic = 29049;         // no topic with this index or address
inline constexpr int kErrBadRegion = 29050;       // region handle or hotspot index out of range
inline constexpr int kErrPrint = 29060;           // printing failed or was cancelled
inline constexpr int kErrBadQuery = 29070;        // the query is malformed (TopicView::SearchError says why)

} // namespace folium::engine
