#pragma once

#include <string>
#include <vector>

// This process's places in the control group hierarchies, read from /proc,
// and the small files those hierarchies are made of.
namespace vorlen {

std::string readSmallFile(const std::string& path);
bool writeSmallFile(const std::string& path, const std::string& text);

// Where each hierarchy is mounted: v1 by its controllers, v2 by "".
struct Mount {
    std::string point;
    std::string controllers; // v1: the super options, holding the controller names
    bool v2 = false;
};
std::vector<Mount> cgroupMounts();

// This process's places, one per hierarchy: its controllers ("" for the
// unified one) and its path there, as /proc/self/cgroup says.
struct Place {
    std::string names;
    std::string path;
};
std::vector<Place> ownPlaces();

// This process's place in the hierarchy that holds `controller` (v1), or in
// the unified one (`controller` empty).
std::string ownPath(const std::string& controller);

// Removes the box groups, and v2 leaves of referees, that runners whose
// process has ended left behind (a runner killed with SIGKILL cannot remove
// its own), killing what is still in them. Groups of live runners are left
// alone.
void removeAbandonedBoxGroups();

} // namespace vorlen
