"""The installed module: `cmake --install` puts it beside the library, and it loads that one."""
import glob
import os
import subprocess
import sys

import pytest

BUILD = os.environ.get("QOR_BUILD_DIR")


@pytest.mark.skipif(not BUILD or "LD_PRELOAD" in os.environ, reason="needs a plain build tree")
def test_installed_module_imports_from_its_prefix(tmp_path):
    prefix = tmp_path / "usr"
    subprocess.run(["cmake", "--install", BUILD, "--prefix", str(prefix)], check=True, capture_output=True)
    [module] = glob.glob(str(prefix / "lib" / "python3*" / "*-packages" / "qorprint*.so"))
    probe = ("import qorprint\n"
             "print(qorprint.__file__)\n"
             "print([l.split()[-1] for l in open('/proc/self/maps') if 'libqorprint.so' in l][0])\n"
             "print(qorprint.GetText(1000))\n")
    env = {"PATH": os.environ["PATH"], "PYTHONPATH": os.path.dirname(module)}
    out = subprocess.run([sys.executable, "-c", probe], check=True, capture_output=True, text=True, env=env)
    file, library, text = out.stdout.splitlines()
    assert file == module
    assert library.startswith(str(prefix))
    assert text == "Pagina "                  # Dutch, the default language
