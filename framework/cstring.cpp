#include "framework/cstring.h"

#include "framework/app.h"

#include <cstdarg>
#include <cstdio>

namespace {

// A string resource holds at most this many characters.
constexpr int MAX_STRING_RESOURCE = 4097;

}  // namespace

CString::CString(LPCTSTR text) : text(text ? text : "") {}

CString& CString::operator=(LPCTSTR newText) {
  text = newText ? newText : "";
  return *this;
}

BOOL CString::LoadString(UINT nID) {
  char buffer[MAX_STRING_RESOURCE + 1];
  const int length = ::LoadString(AfxGetResourceHandle(), nID, buffer, sizeof buffer);
  text.assign(buffer, length > 0 ? length : 0);
  return length > 0;
}

void CString::Format(LPCTSTR format, ...) {
  va_list arguments;
  va_start(arguments, format);
  va_list measuring;
  va_copy(measuring, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, measuring);
  va_end(measuring);
  if (length < 0) {
    text.clear();
  } else {
    text.resize(static_cast<size_t>(length) + 1);
    std::vsnprintf(&text[0], text.size(), format, arguments);
    text.resize(static_cast<size_t>(length));
  }
  va_end(arguments);
}

CString& CString::operator+=(LPCTSTR more) {
  if (more) text += more;
  return *this;
}
