#include "shell/xevent.h"

XEvent XEvent::adopt(HANDLE owned) {
  XEvent event;
  if (owned) event.handle_ = std::make_shared<XHandle>(owned);
  return event;
}

XEvent XEvent::duplicate(HANDLE borrowed) {
  HANDLE copy = nullptr;
  if (!borrowed || !DuplicateHandle(GetCurrentProcess(), borrowed, GetCurrentProcess(), &copy, 0, FALSE,
                                    DUPLICATE_SAME_ACCESS))
    return XEvent();
  return adopt(copy);
}
