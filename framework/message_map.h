// Message maps: every class that handles window messages or commands lists its
// handlers in a table written between BEGIN_MESSAGE_MAP and END_MESSAGE_MAP. A
// message is looked up in the object's own class table first and then in each
// base class's table in turn; a row unpacks wParam and lParam into the
// handler's arguments.
#pragma once

#include <windows.h>

#include <type_traits>

class CCmdTarget;

// Marks a message handler in a class declaration; it has no effect on the code.
#define afx_msg

// Notification code of a command from a menu or an accelerator.
#define CN_COMMAND 0

// One row of a message map. Rows for WM_COMMAND also match on the
// notification code and on a range of command or control ids.
struct MessageMapEntry {
  UINT message;
  UINT code;
  UINT firstId;
  UINT lastId;
  LRESULT (*dispatch)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);
};

// A class's table and the way to its base class's table. The last row of
// `entries` has no dispatch function.
struct MessageMap {
  const MessageMap* (*baseMap)();
  const MessageMapEntry* entries;
};

// The root of every class with a message map: finds rows for messages and
// routes commands.
class CCmdTarget {
public:
  CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;
  virtual ~CCmdTarget() = default;

  // Calls the handler of command nID with notification code nCode, if the
  // object's message map has one; returns whether it did.
  virtual BOOL OnCmdMsg(UINT nID, int nCode);

protected:
  // The first row for `message` (and, for WM_COMMAND, the code and id) in
  // this object's map or its bases' maps, or null.
  const MessageMapEntry* FindMessageEntry(UINT message, UINT code, UINT id) const;

  static const MessageMap* GetThisMessageMap();
  virtual const MessageMap* GetMessageMap() const;
};

// The handler calls behind the ON_ macros. Each takes the handler as a member
// pointer of exactly the signature the message promises, so a handler with a
// different signature does not compile.
namespace afx {

template <class T>
LRESULT callWithoutArguments(CCmdTarget* target, void (T::*handler)()) {
  (static_cast<T*>(target)->*handler)();
  return 0;
}

template <class T>
LRESULT callSysCommand(CCmdTarget* target, void (T::*handler)(UINT, LPARAM), WPARAM wParam,
                       LPARAM lParam) {
  (static_cast<T*>(target)->*handler)(static_cast<UINT>(wParam), lParam);
  return 0;
}

template <class T>
LRESULT callQueryDragIcon(CCmdTarget* target, HCURSOR (T::*handler)()) {
  return reinterpret_cast<LRESULT>((static_cast<T*>(target)->*handler)());
}

// Window positions are signed: a window may stand left of or above the screen.
template <class T>
LRESULT callMove(CCmdTarget* target, void (T::*handler)(int, int), LPARAM lParam) {
  (static_cast<T*>(target)->*handler)(static_cast<short>(LOWORD(lParam)),
                                      static_cast<short>(HIWORD(lParam)));
  return 0;
}

// Client sizes are never negative: both halves are unsigned 16-bit numbers.
template <class T>
LRESULT callSize(CCmdTarget* target, void (T::*handler)(UINT, int, int), WPARAM wParam,
                 LPARAM lParam) {
  (static_cast<T*>(target)->*handler)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
  return 0;
}

}  // namespace afx

// In a class declaration: the class has a message map of its own.
#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
  static const MessageMap* GetThisMessageMap();   \
  virtual const MessageMap* GetMessageMap() const;

// In a source file: the map of theClass, whose unmatched messages go on to the
// map of baseClass. Rows follow, then END_MESSAGE_MAP().
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
  const MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }  \
  const MessageMap* theClass::GetThisMessageMap() {                                   \
    typedef theClass ThisClass;                                                       \
    typedef baseClass TheBaseClass;                                                   \
    static const MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                            \
      {0, 0, 0, 0, nullptr}};                                                         \
    static_assert(std::is_base_of<TheBaseClass, ThisClass>::value,                    \
                  "a message map chains to a base class of its own class");          \
    static const MessageMap map = {&TheBaseClass::GetThisMessageMap, entries};       \
    return &map;                                                                      \
  }

// The rows. Handlers are named without their class, as members of the class
// whose map is being written (a base class's handler as Base::Handler).
#define ON_COMMAND(id, memberFxn)                                                    \
  {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(id),             \
   [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                                \
     return afx::callWithoutArguments<ThisClass>(target, &ThisClass::memberFxn);               \
   }},

#define ON_BN_CLICKED(id, memberFxn)                                                 \
  {WM_COMMAND, BN_CLICKED, static_cast<UINT>(id), static_cast<UINT>(id),             \
   [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                                \
     return afx::callWithoutArguments<ThisClass>(target, &ThisClass::memberFxn);               \
   }},

#define ON_WM_SYSCOMMAND()                                                           \
  {WM_SYSCOMMAND, 0, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT { \
     return afx::callSysCommand<ThisClass>(target, &ThisClass::OnSysCommand, wParam, lParam);  \
   }},

#define ON_WM_PAINT()                                                                \
  {WM_PAINT, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {            \
     return afx::callWithoutArguments<ThisClass>(target, &ThisClass::OnPaint);                 \
   }},

#define ON_WM_QUERYDRAGICON()                                                        \
  {WM_QUERYDRAGICON, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {    \
     return afx::callQueryDragIcon<ThisClass>(target, &ThisClass::OnQueryDragIcon);   \
   }},

#define ON_WM_MOVE()                                                                 \
  {WM_MOVE, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM lParam) -> LRESULT {      \
     return afx::callMove<ThisClass>(target, &ThisClass::OnMove, lParam);             \
   }},

#define ON_WM_SIZE()                                                                 \
  {WM_SIZE, 0, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT { \
     return afx::callSize<ThisClass>(target, &ThisClass::OnSize, wParam, lParam);     \
   }},
