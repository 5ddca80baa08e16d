#include "app/KestrumDoc.h"

bool CKestrumDoc::OnNewDocument() { return true; }

void CKestrumDoc::Serialize() {}
