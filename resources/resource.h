/* Resource and control identifiers of Notifier.exe, shared by the resource script, the program
   and the tests that read its window back. Plain defines, so that windres reads it too. */
#ifndef DORMIVO_RESOURCE_H
#define DORMIVO_RESOURCE_H

/* The application icon; the lowest icon identifier is the one the shell shows. */
#define IDI_NOTIFIER 1

/* Controls of the notifier form. */
#define IDC_LBAPPNAME 1001
#define IDC_LBNOTIFIER 1002
#define IDC_PROGRESSM 1003
#define IDC_BTNACTIVATE 1004
#define IDC_BTNDELAY 1005
#define IDC_BTNCANCEL 1006

#endif
