// Play on start and the seek to the remembered position.
#pragma once

void PlayOnStart();  // init step 10
