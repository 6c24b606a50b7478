"""sway headless, for the tests and the bench: it refuses root, so it runs as
nobody in a runtime folder of nobody's, and clients reach it by its socket's
absolute path."""
import glob
import os
import pwd
import tempfile


def sway_folder():
    """A fresh runtime folder that sway (as nobody) owns; the caller removes it."""
    nobody = pwd.getpwnam("nobody")
    runtime = tempfile.mkdtemp(prefix="tenebrolite-sway-")
    os.chown(runtime, nobody.pw_uid, nobody.pw_gid)
    return runtime


def sway_command(runtime, config, outputs=2):
    """(argv, env) of sway headless with the configuration's lines and that
    many outputs; Xwayland off, or it takes an X display number of its own."""
    path = os.path.join(runtime, "config")
    with open(path, "w") as f:
        f.write("xwayland disable\n" + config)
    env = {"PATH": os.environ["PATH"], "HOME": runtime, "XDG_RUNTIME_DIR": runtime,
           "WLR_BACKENDS": "headless", "WLR_HEADLESS_OUTPUTS": str(outputs),
           "WLR_LIBINPUT_NO_DEVICES": "1", "WLR_RENDERER": "pixman"}
    return (["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "sway",
             "--config", path], env)


def sway_socket(runtime):
    """sway's socket, once it listens; None before."""
    sockets = [s for s in glob.glob(runtime + "/wayland-*") if not s.endswith(".lock")]
    return sockets[0] if sockets else None
