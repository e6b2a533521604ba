// The loading part of start-up: loading picture, 3D device, music, scene set-ups and the start
// of the music, in that order.
#pragma once

void StartUp();
