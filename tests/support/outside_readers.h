// Independent readers of the DXF files the tests write: ezdxf (python3-ezdxf)
// and GDAL's ogrinfo (gdal-bin). Both are installed by .ci/install-deps, so a
// missing reader fails the test instead of skipping it: a check that silently
// does not run would let a bad file through.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace outside {

// Runs a shell command; its exit status, with standard output and error in output.
inline int run_tool(const std::string& command, std::string& output)
{
    output.clear();
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The python interpreter that has ezdxf (the system one: a python on PATH from
// a version manager may lack it), or "" when none has.
inline std::string ezdxf_python()
{
    std::string output;
    for (const char* python : {"/usr/bin/python3", "python3"})
        if (run_tool(std::string(python) + " -c 'import ezdxf'", output) == 0) return python;
    return "";
}

// Runs a python script with ezdxf at hand (written to a file, so that it needs
// no quoting) on the arguments; its exit status, with its output in output.
inline int run_ezdxf_script(const std::string& script, const std::vector<std::string>& args,
                            std::string& output)
{
    std::string python = ezdxf_python();
    if (python.empty()) {
        output = "python3-ezdxf is needed (.ci/install-deps installs it)";
        return -1;
    }
    char name[] = "/tmp/ezdxf_script_XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) return -1;
    FILE* file = fdopen(fd, "w");
    fwrite(script.data(), 1, script.size(), file);
    fclose(file);
    std::string command = python + " " + name;
    for (const auto& arg : args) {
        std::string quoted;
        for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        command += " '" + quoted + "'";
    }
    int status = run_tool(command, output);
    std::remove(name);
    return status;
}

// ezdxf reads the file with no structure error and no warning logged while
// loading (it mends some faults silently and only logs them), its audit finds
// neither errors nor anything to fix, and each "layer:app" pair of the list has
// extended data on the layer. The 1000 texts found go into texts, one
// "layer app text" line each.
inline void expect_ezdxf_reads(const std::string& file, const std::vector<std::string>& layer_apps,
                               std::string* texts = nullptr)
{
    std::string python = ezdxf_python();
    ASSERT_FALSE(python.empty()) << "python3-ezdxf is needed (.ci/install-deps installs it)";
    std::string script =
        "import sys, logging, ezdxf\n"
        "logged = []\n"
        "class Keep(logging.Handler):\n"
        "    def emit(self, record): logged.append(record.getMessage())\n"
        "logging.getLogger(\"ezdxf\").addHandler(Keep(logging.WARNING))\n"
        "doc = ezdxf.readfile(sys.argv[1])\n"
        "auditor = doc.audit()\n"
        "assert not logged, logged\n"
        "assert not auditor.has_errors, [e.message for e in auditor.errors]\n"
        "assert not auditor.has_fixes, [f.message for f in auditor.fixes]\n"
        "for pair in sys.argv[2:]:\n"
        "    layer, app = pair.split(\":\")\n"
        "    assert doc.layers.has_entry(layer), \"no layer \" + layer\n"
        "    assert doc.layers.get(layer).has_xdata(app), \"no \" + app + \" data on \" + layer\n"
        "    for tag in doc.layers.get(layer).get_xdata(app):\n"
        "        if tag.code == 1000: print(layer, app, tag.value)\n";
    std::string command = python + " -c '" + script + "' '" + file + "'";
    for (const auto& pair : layer_apps) command += " '" + pair + "'";
    std::string output;
    EXPECT_EQ(run_tool(command, output), 0) << "ezdxf on " << file << ":\n" << output;
    if (texts) *texts = output;
}

// ogrinfo reads the file's entities with no error and no warning; returns its
// feature count (-1 when it gives none). GDAL 3.6 warns of an unclosed ring for
// every 3DFACE, also for the ones ezdxf writes, so that one warning is allowed.
inline long expect_ogrinfo_reads(const std::string& file)
{
    std::string output;
    int status = run_tool("ogrinfo --version", output);
    EXPECT_EQ(status, 0) << "ogrinfo is needed (gdal-bin; .ci/install-deps installs it)";
    if (status != 0) return -1;
    EXPECT_EQ(run_tool("ogrinfo -ro -al -so '" + file + "'", output), 0) << output;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_EQ(line.find("ERROR"), std::string::npos) << file << ": " << line;
        if (line.find("Warning") != std::string::npos &&
            line.find("Non closed ring detected") == std::string::npos)
            ADD_FAILURE() << file << ": " << line;
    }
    size_t at = output.find("Feature Count: ");
    EXPECT_NE(at, std::string::npos) << output;
    return at == std::string::npos ? -1 : std::stol(output.substr(at + 15));
}

// The TEXT strings of one layer of a drawing file as ezdxf reads them, in
// file order, one line each as python's ascii() writes it ('1200m\xb2'), so
// that every character is compared by its code.
inline std::string ezdxf_layer_texts(const std::string& file, const std::string& layer)
{
    std::string output;
    EXPECT_EQ(run_ezdxf_script("import sys, ezdxf\n"
                               "doc = ezdxf.readfile(sys.argv[1])\n"
                               "for t in doc.modelspace().query('TEXT'):\n"
                               "    if t.dxf.layer == sys.argv[2]: print(ascii(t.dxf.text))\n",
                               {file, layer}, output),
              0)
        << output;
    return output;
}

// GDAL's features of one layer of a drawing file, as ogrinfo lists them (the
// texts as "Text (String) = ..." in UTF-8).
inline std::string ogrinfo_layer_features(const std::string& file, const std::string& layer)
{
    std::string output;
    EXPECT_EQ(run_tool("ogrinfo -ro -al -q -where \"Layer = '" + layer + "'\" '" + file + "'", output), 0)
        << output;
    return output;
}

}  // namespace outside
