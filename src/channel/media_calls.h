#pragma once
// The media functions the channel calls, gathered in one place.

#include "media/codec_layer.h"
#include "media/color_convert.h"
#include "media/jpeg_still.h"
#include "media/motion_grid.h"
#include "media/osd_text.h"
#include "media/picture_size.h"
