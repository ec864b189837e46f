// The guard's own case: a type of core that port defines again.
#pragma once

namespace tarvik::core {

struct Meme {
    int a = 0;
};

// Nested in classes of other names: not the same type.
struct Sortie {
    struct Partage;
};
struct Sortie::Partage {};

namespace {
struct Locale {}; // one of each file's own
} // namespace

} // namespace tarvik::core
