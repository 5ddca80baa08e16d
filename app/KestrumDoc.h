#pragma once
// The document of the single-document window. It holds no data: the whole
// simulation lives in the view, and nothing is ever saved as a document.

class CKestrumDoc {
 public:
  // The new-document step of start-up; there is nothing to prepare.
  bool OnNewDocument();
  // Reads and writes nothing.
  void Serialize();
};
