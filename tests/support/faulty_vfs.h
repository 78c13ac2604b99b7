// A file layer for tests that fails writes on demand, as a full disk or a
// failing device would. Once installed (under db::kFileLayerName), every
// database the database layer opens goes through it.
#pragma once

namespace folium::db::testing {

void installFaultyVfs();
// After n more successful writes, every write and sync fails (-1: never).
void failWritesAfter(int n);
// The layer's VFS name, or null when none is installed.
const char *vfsName();

} // namespace folium::db::testing
