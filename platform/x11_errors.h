#pragma once
// The process's handler of X errors, and the rule for which of them are logged: SDL's requests
// about windows that the window manager or another program destroyed meanwhile are not.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

struct _XDisplay;  // Xlib's Display

namespace morna::platform::x11 {

// Installs, once, the handlers of X errors and of a lost connection (ConnectionLost). The errors
// are logged (by ReportErrors) and the process carries on, where Xlib's own handler ends it. SDL's
// X11 code asks about windows that the window manager may be destroying at the same moment (the
// frame of a full-screen window that closes). Called before SDL's video starts: SDL passes X
// errors on to the handler it found at its start.
void GuardErrors();
// True once Xlib has found the connection to the X server lost (the server ended). The handler
// that notes it ends the process at once, exit code 1, with no clean-up: no destructor of a static
// object runs under the threads still running, and nothing waits on the dead connection (SDL's
// teardown of a window it believes mapped waits for the window's unmap notice, and would spin for
// ever). Another thread may read it meanwhile.
bool ConnectionLost();
// Another toolkit set handlers of its own at its start (GTK does, for its error traps and for a lost
// connection): they are made ours again (a lost connection, on either, ends the process as
// ConnectionLost says), and pass on to the toolkit's the errors of that toolkit's connection, these
// as RouteError says. GTK's traps install its handler again while they are pushed, and errors read
// then never reach ours: the errors RouteError drops are dropped on that connection itself, before
// any handler sees them. The toolkit's requests to destroy a window are noted as they are made, and
// the destroy notices of its windows as Xlib takes them off the wire (ahead of the errors the server
// sent after them), as NoteToolkitDestroy says; `destroyedItself` says whether the toolkit destroyed
// a window itself without a request of its own (a child, with its parent; null: never).
void TakeBackErrorHandler(::_XDisplay* display, bool (*destroyedItself)(unsigned long xwindow) = nullptr);
// Writes one line with the count of the toolkit's errors RouteError dropped since the last call,
// where there were any: at a dialog's close, so that the log says why a dialog went undrawn.
void LogDroppedToolkitErrors();
// Logs the X errors met since the last call, as ErrorsToLog keeps them.
void ReportErrors();

// An X error as the handler met it.
struct XErrorNote {
    unsigned char code, request;
    unsigned long resource, serial;
};
// One of our windows destroyed by another program: the frames the manager gave it (its parents, as
// the reparent notices told them), and the serials of the latest queries for its parent that failed.
struct DestroyedNote {
    std::vector<unsigned long> frames, failedQueries;
};
// Of the errors met, those to log, given our windows recorded destroyed by another program and the
// frames the manager gave our other windows. SDL asks about a window after the manager or another
// program destroyed what it asks about: as it leaves full screen or closes the window, and after
// another program destroyed it (reading the events queued before, and leaving full screen as it
// destroys the window). Those requests fail on the window itself, or as translations of coordinates
// from its frame (the manager destroys or replaces it) or from the parent that a failed query on the
// window left unset (window 0, or whatever SDL's variable held). None of them is logged, nor, once a
// window of ours was destroyed, the free of a graphics context that was never made (SDL's software
// renderer makes one for its picture on the window, and the making failed there). Every other error
// is logged.
std::vector<XErrorNote> ErrorsToLog(const std::vector<XErrorNote>& met,
                                    const std::map<unsigned long, DestroyedNote>& destroyed,
                                    const std::map<unsigned long, std::vector<unsigned long>>& frames = {});

// Where the handler sends an error: to the toolkit's handler, nowhere, or to the log (ErrorsToLog).
enum class ErrorRoute { Toolkit, Dropped, Logged };
// The toolkit's connection, as RouteError reads its errors: the range of the resource ids its own
// requests make (base and mask; a mask of 0 is none), and the code of RENDER's error for a picture
// that is not there (0 without RENDER).
struct ToolkitIds {
    unsigned long base = 0, mask = 0;
    unsigned char badPicture = 0;
};
// The destructions of the toolkit's own windows: whether another program destroyed one (its notice
// read), and the toolkit's own requests to destroy one whose notice has not been read, each the window
// and the request's serial (the latest 16).
struct ToolkitDestroys {
    bool byAnother = false;
    std::vector<std::pair<unsigned long, unsigned long>> asked;
};
// Notes the toolkit's request to destroy one of its own windows, and the request's serial.
void NoteToolkitDestroyRequest(ToolkitDestroys& destroys, const ToolkitIds& ids, unsigned long xwindow,
                               unsigned long serial);
// Notes a destroy notice read on the toolkit's connection, of one of its own windows (its id range;
// another's, such as the game's window it keeps its dialogs above, is not its to miss), with the
// notice's serial: the toolkit's last request that the server had handled when the window went. A
// notice older than the toolkit's own request to destroy that window is of another program's destroy,
// handled first (the toolkit's request then fails): the toolkit's teardown marks the window destroyed
// before anything is read, so its own word would count the other's destroy as its own. A window the
// toolkit did not ask to destroy (a child, destroyed with its parent) is its own where
// `destroyedItself` says so, another program's otherwise. A notice can come while a dialog is being
// made, before its window's id is known.
void NoteToolkitDestroy(ToolkitDestroys& destroys, const ToolkitIds& ids, unsigned long xwindow, unsigned long serial,
                        bool destroyedItself);
// An error on our own connection is logged; one on the toolkit's goes to the toolkit's handler
// (GDK's, which ends the process on an error outside its traps), but for one that says a resource of
// the toolkit's own is not there (a window, pixmap, drawable, GC or picture) once another program
// destroyed one of the toolkit's windows and its notice was read: the toolkit asked about the
// window, or a child, or what it made from it meanwhile (a pixmap, a GC or a picture, whose making
// failed), or destroyed it, before it handled the notice; and a GC its drawing library made on that
// window fails in any later dialog. That error is dropped (a GDK trap popped with its code sees none;
// its reply, where it has one, still fails), from then on for the rest of the process. Before any
// such notice, every error goes to the toolkit, as a double free of its own would; after it, a double
// free of its own is dropped with the rest.
ErrorRoute RouteError(const XErrorNote& e, bool toolkits, const ToolkitIds& ids, const ToolkitDestroys& destroys);

// The manager reparented one of our windows into a frame (a parent other than the root), as the
// filter of SDL's X events read it: SDL's translations from that frame go unlogged.
void NoteFrame(unsigned long xwindow, unsigned long frame);
// Records the X window as destroyed by another program, once, with its frames: answers
// whether it was news. Every request on it fails from then on, and those errors are no longer
// logged one by one.
bool NoteDestroyed(unsigned long xwindow);
// Makes requests on windows that another program may destroy meanwhile (the manager's other
// clients): an error on one is expected, and is dropped rather than logged.
void Unlogged(::_XDisplay* display, const std::function<void()>& requests);

}  // namespace morna::platform::x11
