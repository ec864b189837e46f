// The guard's own case: a type of core that port defines again, in its own
// namespace.
#pragma once

namespace tarvik::port {

struct Meme {
    long b = 0;
};

struct Entree {
    struct Partage;
};
struct Entree::Partage {};

namespace {
struct Locale {};
} // namespace

} // namespace tarvik::port
