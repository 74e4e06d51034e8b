// The step mapping of stepped parameters as the editor's controls use it. The
// editor does not depend on the engine, so it keeps its own copy; both follow
// the one rule (a test holds them equal).
#pragma once

namespace kt::ui {

// v * n formed in single precision and truncated toward zero, at most n - 1;
// a negative value (or NaN) gives step 0.
inline int paramContToLong(float v, int n) {
    const float product = v * static_cast<float>(n);
    if (!(product >= 0.0f)) return 0;
    if (product >= static_cast<float>(n)) return n - 1;
    return static_cast<int>(product);
}

// The centre of step i: 0.5/n + i/n in single precision.
inline float paramLongToCont(int i, int n) {
    const float fn = static_cast<float>(n);
    return 0.5f / fn + static_cast<float>(i) / fn;
}

}  // namespace kt::ui
