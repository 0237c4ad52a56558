#include "ui/tab_images.h"

#include "base/dpi.h"

namespace parlix {

TabImageSet TabImagesForDpi(int dpi) noexcept {
    switch (PictureSizeForDpi(dpi)) {
    case 24: return {24, 111, 112};
    case 32: return {32, 121, 122};
    case 48: return {48, 131, 132};
    default: return {16, 101, 102};
    }
}

}  // namespace parlix
