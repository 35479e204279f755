/* Resource identifiers of the wait window's pictures (WaitWindow.rc: .ico files
   stored as RCDATA): a small clock, and the bob of its pendulum at the right,
   lowest in the middle, and at the left. Shared by the resource script and the
   code, so plain C. */
#ifndef TOLVAR_WAIT_PICTURES_H
#define TOLVAR_WAIT_PICTURES_H

#define IDI_WAIT_CLOCK 2300
#define IDI_WAIT_PENDULUM_RIGHT 2301
#define IDI_WAIT_PENDULUM_MIDDLE 2302
#define IDI_WAIT_PENDULUM_LEFT 2303

#endif
