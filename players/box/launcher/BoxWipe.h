#pragma once

// Inside a box, between two matches of the same bot: everything the last
// one left is removed, so that the next starts as in a new box.
namespace vorlen::box {

// Empties the box's own file systems (its /tmp, its seat folder in it, and
// /dev/shm) and removes the System V IPC objects of its namespace. False
// when something could not be removed: the box is then not used again.
bool wipeBox();

} // namespace vorlen::box
