// Runs inside KWin (Plasma 5 and 6): reports the active window's resource class and name, and
// the resource classes of the open application windows, to the watcher that loaded it.
var service = "org.tavrik87rev.ActiveApp";
var path = "/ActiveApp";
var iface = "org.tavrik87rev.ActiveApp";
var plasma6 = typeof workspace.windowList === "function";

function isApplication(w) {
    return !!w && (w.normalWindow || w.dialog) && !w.desktopWindow && !w.dock;
}

// Plasma 6 gives strings; Plasma 5's resource class and name are byte arrays, which its
// engine hands over as an ArrayBuffer.
function text(value) {
    if (value === undefined || value === null) {
        return "";
    }
    if (typeof ArrayBuffer !== "undefined" && value instanceof ArrayBuffer) {
        var bytes = new Uint8Array(value);
        var out = "";
        for (var i = 0; i < bytes.length; ++i) {
            out += String.fromCharCode(bytes[i]);
        }
        return out;
    }
    return String(value);
}

function reportActive(w) {
    if (isApplication(w)) {
        callDBus(service, path, iface, "activeWindowChanged", text(w.resourceClass),
                 text(w.resourceName));
    } else {
        callDBus(service, path, iface, "activeWindowChanged", "", "");
    }
}

function reportOpen(removed) {
    var all = plasma6 ? workspace.windowList() : workspace.clientList();
    var classes = [];
    for (var i = 0; i < all.length; ++i) {
        if (all[i] !== removed && isApplication(all[i])) {
            classes.push(text(all[i].resourceClass));
        }
    }
    callDBus(service, path, iface, "openWindowsChanged", classes.join("\n"));
}

function added() {
    reportOpen(null);
}

if (plasma6) {
    workspace.windowActivated.connect(reportActive);
    workspace.windowAdded.connect(added);
    workspace.windowRemoved.connect(reportOpen);
    reportActive(workspace.activeWindow);
} else {
    workspace.clientActivated.connect(reportActive);
    workspace.clientAdded.connect(added);
    workspace.clientRemoved.connect(reportOpen);
    reportActive(workspace.activeClient);
}
reportOpen(null);
