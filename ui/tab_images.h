// The tab strip's two pictures (the lock, the tab picture) as resources of the program, drawn
// for 16, 24, 32 and 48 pixels; 101 and 102 are the 16-pixel pair.
#pragma once

namespace parlix {

struct TabImageSet {
    int size = 16;   // width and height of each picture
    int lockId = 101;
    int chatId = 102;
    friend bool operator==(const TabImageSet&, const TabImageSet&) = default;
};

// The pair drawn for the dpi (see PictureSizeForDpi).
[[nodiscard]] TabImageSet TabImagesForDpi(int dpi) noexcept;

}  // namespace parlix
