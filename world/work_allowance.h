// WorkAllowance: how much field work a stretch of the program may still do,
// counted in field terms, one node's term at one point (one pow). What the
// world does per idle tick grows with the node count, the NPC count and how
// hard the band is to hit; the sampler and the agents' push-outs draw on an
// allowance so that no accepted input makes a tick long.
#pragma once

#include <cstdint>
#include <limits>

struct WorkAllowance {
  std::int64_t terms = std::numeric_limits<std::int64_t>::max();

  // Whether cost terms are left.
  bool holds(std::int64_t cost) const { return cost <= terms; }
  // Takes cost terms when they are left; false, taking nothing, otherwise.
  bool take(std::int64_t cost) {
    if (!holds(cost)) return false;
    terms -= cost;
    return true;
  }
};
