// Message maps in the class library's style. A class declares DECLARE_MESSAGE_MAP() and lists
// its entries between BEGIN_MESSAGE_MAP(theClass, baseClass) and END_MESSAGE_MAP(); a message
// goes to the first entry for it, looking through the class's map and then its bases' maps.
// Each entry holds a small function that unpacks the message's parameters for the handler.
#pragma once

#include "platform/afx/CDC.h"
#include "platform/afx/CPoint.h"
#include "platform/win/WindowMessages.h"

class CWnd;

using AFX_PMSG = LRESULT (*)(CWnd* window, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;  // WM_COMMAND: the notification code
    UINT nID;    // WM_COMMAND: the control id
    AFX_PMSG pfn;  // null ends the map
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                       \
protected:                                          \
    static const AFX_MSGMAP* GetThisMessageMap();   \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                            \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }     \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                       \
    {                                                                                     \
        using ThisClass [[maybe_unused]] = theClass;                                      \
        using TheBaseClass = baseClass;                                                   \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                                 \
            {0, 0, 0, nullptr}};                                                          \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, messageEntries}; \
        return &messageMap;                                                               \
    }

#define AFX_WINDOW(window) static_cast<ThisClass*>(window)

// LRESULT memberFxn(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn)                                                    \
    {message, 0, 0, [](CWnd* window, WPARAM wParam, LPARAM lParam) -> LRESULT {           \
         return AFX_WINDOW(window)->memberFxn(wParam, lParam);                            \
     }},

// void memberFxn()
#define ON_COMMAND(id, memberFxn)                                                         \
    {WM_COMMAND, 0, id, [](CWnd* window, WPARAM, LPARAM) -> LRESULT {                     \
         AFX_WINDOW(window)->memberFxn();                                                 \
         return 0;                                                                        \
     }},

// void memberFxn()
#define ON_BN_CLICKED(id, memberFxn)                                                      \
    {WM_COMMAND, BN_CLICKED, id, [](CWnd* window, WPARAM, LPARAM) -> LRESULT {            \
         AFX_WINDOW(window)->memberFxn();                                                 \
         return 0;                                                                        \
     }},

// void OnPaint()
#define ON_WM_PAINT()                                                                     \
    {WM_PAINT, 0, 0, [](CWnd* window, WPARAM, LPARAM) -> LRESULT {                        \
         AFX_WINDOW(window)->OnPaint();                                                   \
         return 0;                                                                        \
     }},

// void OnNcPaint()
#define ON_WM_NCPAINT()                                                                   \
    {WM_NCPAINT, 0, 0, [](CWnd* window, WPARAM, LPARAM) -> LRESULT {                      \
         AFX_WINDOW(window)->OnNcPaint();                                                 \
         return 0;                                                                        \
     }},

// BOOL OnEraseBkgnd(CDC*)
#define ON_WM_ERASEBKGND()                                                                \
    {WM_ERASEBKGND, 0, 0, [](CWnd* window, WPARAM wParam, LPARAM) -> LRESULT {            \
         return AFX_WINDOW(window)->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam))); \
     }},

// LRESULT OnNcHitTest(CPoint) with the point on the screen
#define ON_WM_NCHITTEST()                                                                 \
    {WM_NCHITTEST, 0, 0, [](CWnd* window, WPARAM, LPARAM lParam) -> LRESULT {             \
         return AFX_WINDOW(window)->OnNcHitTest(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))); \
     }},

// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON()                                                             \
    {WM_QUERYDRAGICON, 0, 0, [](CWnd* window, WPARAM, LPARAM) -> LRESULT {                \
         return reinterpret_cast<LRESULT>(AFX_WINDOW(window)->OnQueryDragIcon());         \
     }},

// void OnMouseMove(UINT nFlags, CPoint point) with the point in client coordinates
#define ON_WM_MOUSEMOVE()                                                                 \
    {WM_MOUSEMOVE, 0, 0, [](CWnd* window, WPARAM wParam, LPARAM lParam) -> LRESULT {      \
         AFX_WINDOW(window)->OnMouseMove(static_cast<UINT>(wParam),                       \
                                         CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))); \
         return 0;                                                                        \
     }},
