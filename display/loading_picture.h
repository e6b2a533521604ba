// The grey picture that stands on the display while the rest of the production loads.
#pragma once

// Shows "load.raw" in the picture area and leaves it there for two seconds, taking no messages.
void ShowLoadingPicture();
