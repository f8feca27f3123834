#pragma once

// Widgets draw into shared memory. On Wayland, Qt would still load a GL client buffer
// integration, which maps Mesa's driver and LLVM (some 50 MB) that nothing draws with. This
// leaves it out, unless the user chose one; call it before the application object is made.
void useSharedMemoryRendering();
