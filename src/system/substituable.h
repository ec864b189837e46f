// The program's seams: something it does one way, which a test may replace
// for a while. Every seam is one of these, named, and replaced the same way.
#pragma once

#include "system/couche.h"

#include <utility>

namespace tarvik::system {

template <class T> class Substituable {
public:
    explicit Substituable(T valeur = {})
        : m_valeur(std::move(valeur))
    {
    }
    Substituable(const Substituable &) = delete;
    Substituable &operator=(const Substituable &) = delete;

    const T &operator*() const { return m_valeur; }
    const T *operator->() const { return &m_valeur; }

    // Puts `autre` in place until the object returned is destroyed.
    class Remplacement {
    public:
        Remplacement(Substituable &point, T ancien)
            : m_point(point)
            , m_ancien(std::move(ancien))
        {
        }
        ~Remplacement() { m_point.m_valeur = std::move(m_ancien); }
        Remplacement(const Remplacement &) = delete;
        Remplacement &operator=(const Remplacement &) = delete;

    private:
        Substituable &m_point;
        T m_ancien;
    };
    [[nodiscard]] Remplacement remplacer(T autre)
    {
        return Remplacement(*this, std::exchange(m_valeur, std::move(autre)));
    }

private:
    T m_valeur;
};

} // namespace tarvik::system
