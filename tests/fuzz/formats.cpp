// What the loader reads before any decoder sees a file: the kind by its first bytes, the completeness
// checks of JPEG, PNG and GIF structures, the sizes their headers claim, and the metafile headers with the sizes they
// give.
#include "fuzzTarget.h"
#include "imagefiles/pictureFormats.h"

TESSORA_FUZZ_TARGET(formats) {
    const FileKind kind = SniffFileKind(data, size);
    for (FileKind each : {FileKind::jpeg, FileKind::png, FileKind::gif, FileKind::tiff, FileKind::icon, kind}) {
        LooksComplete(each, data, size);
        int64_t width = -1, height = -1;
        if (ClaimedPictureSize(each, data, size, width, height)) FUZZ_CHECK(width >= 0 && height >= 0);
    }
    EmfInfo emf;
    if (CheckEmf(data, size, emf)) {
        int32_t width = 0, height = 0;
        if (EmfPixelSize(emf, width, height)) FUZZ_CHECK(width > 0 && height > 0);
    }
    WmfInfo wmf;
    if (CheckWmf(data, size, wmf)) {
        FUZZ_CHECK(wmf.recordsOffset <= size && wmf.recordsBytes <= size - wmf.recordsOffset);
        for (int32_t dotsPerInch : {96, 1, 2400}) {
            int32_t width = 0, height = 0;
            if (WmfPixelSize(wmf, dotsPerInch, width, height)) FUZZ_CHECK(width > 0 && height > 0);
        }
    }
}
