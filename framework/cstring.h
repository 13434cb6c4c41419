// CString: the text value of the window layer. It holds its own copy of the
// characters, converts to a C string wherever one is expected, and loads
// strings from the program's string table.
#pragma once

#include <windows.h>

#include <string>

class CString {
public:
  CString() = default;
  CString(LPCTSTR text);  // implicit: a C string stands wherever a CString is expected
  CString(const CString&) = default;
  CString& operator=(const CString&) = default;
  CString& operator=(LPCTSTR text);

  operator LPCTSTR() const { return text.c_str(); }
  int GetLength() const { return static_cast<int>(text.size()); }
  BOOL IsEmpty() const { return text.empty(); }
  void Empty() { text.clear(); }

  // Replaces the text by string nID of the resource module; returns FALSE and
  // leaves the text empty when the program has no such string.
  BOOL LoadString(UINT nID);

  // Replaces the text by the printf-style formatting of the arguments.
  void Format(LPCTSTR format, ...);

  CString& operator+=(LPCTSTR more);
  friend bool operator==(const CString& a, const CString& b) { return a.text == b.text; }
  friend bool operator!=(const CString& a, const CString& b) { return a.text != b.text; }
  friend bool operator==(const CString& a, LPCTSTR b) { return a.text == (b ? b : ""); }
  friend bool operator!=(const CString& a, LPCTSTR b) { return !(a == b); }

private:
  std::string text;
};
