#include "store/TenhouLogTable.h"

namespace kestrum {

TenhouLogTable& TheTenhouLogTable() {
  // Made on first use and kept to the end of the process, like every other
  // holder of the table expects; about 300 KB, so never on a stack.
  static TenhouLogTable table;
  return table;
}

}  // namespace kestrum
