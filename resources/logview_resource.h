/* Resource, command and control identifiers of LogView.exe, shared by its resource script, the
   program and the tests that read its window back. Plain defines, so that windres reads it too. */
#ifndef DORMIVO_LOGVIEW_RESOURCE_H
#define DORMIVO_LOGVIEW_RESOURCE_H

/* The application icon; the lowest icon identifier is the one the shell shows. */
#define IDI_LOGVIEW 1

/* The keyboard shortcuts. */
#define IDA_LOGVIEW 1

/* Commands of the toolbar and the shortcuts. */
#define IDM_SAVE 101
#define IDM_PRINT 102
#define IDM_RELOAD 103

/* Child windows of the viewer's window. */
#define IDC_TOOLBAR 2001
#define IDC_LIST 2002
#define IDC_STATUS 2003

#endif
