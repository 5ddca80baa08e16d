#include "app/ViewPorts.h"

#include "store/TenhouLogTable.h"

ViewPorts::ViewPorts(const ViewPlaces& places)
    : statusBlock(places.statusBlockName),
      tenhouLog(kestrum::TheTenhouLogTable(), places.logFile),
      profile(),
      store(profile) {}
