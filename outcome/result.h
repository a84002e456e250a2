// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/problem.h"

#include <optional>
#include <utility>
#include <variant>

namespace outcome
{

// A value, or the problem that kept it from being made: the one convention
// for a failure in every widget-free part (std::expected arrives with C++23).
// Reading the value of a failed result, or the problem of a good one, is a
// programming error and asserts.
template<typename T>
class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_state(std::in_place_index<0>, std::move(value))
    {
    }
    Result(Problem problem)
        : m_state(std::in_place_index<1>, std::move(problem))
    {
    }

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T &value() const & { return *std::get_if<0>(&checked(true)); }
    T &value() & { return *std::get_if<0>(&checked(true)); }
    T &&value() && { return std::move(*std::get_if<0>(&checked(true))); }
    const T &operator*() const & { return value(); }
    T &operator*() & { return value(); }
    const T *operator->() const { return &value(); }
    T *operator->() { return &value(); }
    T valueOr(T fallback) const & { return ok() ? value() : std::move(fallback); }

    const Problem &problem() const { return *std::get_if<1>(&checked(false)); }

private:
    const std::variant<T, Problem> &checked(bool wantValue) const
    {
        Q_ASSERT(ok() == wantValue);
        return m_state;
    }
    std::variant<T, Problem> &checked(bool wantValue)
    {
        Q_ASSERT(ok() == wantValue);
        return m_state;
    }

    std::variant<T, Problem> m_state;
};

// Success with nothing to hand back, or the problem.
template<>
class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Problem problem)
        : m_problem(std::move(problem))
    {
    }

    bool ok() const { return !m_problem; }
    explicit operator bool() const { return ok(); }
    const Problem &problem() const
    {
        Q_ASSERT(m_problem);
        return *m_problem;
    }

private:
    std::optional<Problem> m_problem;
};

using Done = Result<void>;

} // namespace outcome
