// Live GDI object counts for tests, read from the drawing layer's handle table.
#include "platform/gdi/gdi_objects.h"
#include "platform/testing/platform_testing.h"

bool PlatformCountsGdiObjects() { return true; }

GdiObjectCounts PlatformLiveGdiObjects() {
    return GdiObjectCounts{GdiLiveCount(GdiKind::Bitmap), GdiLiveCount(GdiKind::DC), GdiLiveCount(GdiKind::Region),
                           GdiLiveCount(GdiKind::Brush)};
}
