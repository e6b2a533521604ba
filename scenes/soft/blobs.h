// Environment-mapped blobs behind an overlay: the scene of slot 3.
#pragma once

// Run once by SetUpScenes.
void SetUpBlobs();
