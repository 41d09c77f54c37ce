// Run state of one calculation run (besides the plant model).
#pragma once

#include <algorithm>
#include <any>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace rivola {

struct RunState {
    int ierr = 0;                    // error level: worst severity of the run
    char compute = 'J';              // 'J': compute after the checks
    int ansiInput = 0;               // IN_ANSI given
    std::string dbPath;              // full path of the variant database
    std::string dbDir;               // directory part, up to and including the last '/'
    std::string dbName;              // file name without extension
    std::string dbExt;               // extension including the point (may be empty)
    std::string resultsDb;           // results database next to the variant
    std::string basePath;            // dbDir + dbName: base of every output file
    std::string checkListFile;       // basePath + ".pkl"
    std::string runDate;             // "dd.mm.yyyy"
    int maxPasses = 100;             // upper bound of the passes of the walk
    float tolerance = 0.00005f;      // convergence tolerance at divisions
    int iniRead = 0;                 // RVL_iteration.ini was opened
    int iterLog = 0;                 // step log of the division iteration
    int runtimeError = 0;            // runtime_error.pkl was written
    int balance = 0;                 // energy levels at divisions stayed unbalanced
    int passes = 0;                  // passes of the last walk
    int converged = 1;               // converged flag of the current pass
    int callCount = 0;               // runs in this process
    std::vector<std::string> params; // command-line parameters
    std::vector<std::string> writtenFiles;  // result files written by this run
    std::string resultsStatus;       // status of storing the run's results in the results database
    std::vector<std::string> storeFailures;  // results of this run that could not be stored
    int dbWait = 60;                 // seconds to wait for a results database locked by another program
    bool drawing = true;             // draw the hydraulic profile after a run
    std::string sheet = "A3";        // sheet size of the drawing for the report: A1, A3, A4
    int threads = 0;                 // threads for flow cases and capacity trials (0: one per core)
    bool capacity = false;           // search the plant's capacity instead of one calculation
    std::string capacityCase;        // the flow case whose inflows are scaled (empty: the variant's own)
    int markIsys = 0, markEnd = 0;   // element end the drawing marks (the capacity's limit)
    bool quiet = false;              // the screen log without the line of every element
    // A window that shows the drawing asks the run to keep the laid-out
    // drawing it wrote (an output::ProfileDrawing), so that it is laid out once.
    bool keepDrawing = false;
    std::any keptDrawing;
    // A flow case of the variant: its name ("" = the variant's own run), the
    // input echo (written by one case only, under the variant's name) and the
    // lock that lets the cases of one run store their results one at a time.
    std::string caseName;
    bool echo = true;
    std::string echoFile;            // "" = basePath + ".EIN"
    std::mutex* storeLock = nullptr;
    // A case stores its results in the results database as its last step,
    // after its listings and what its drawing needs: the store is kept here
    // when deferStore is set and run by whoever computes the case.
    bool deferStore = false;
    std::function<void()> pendingStore;

    // The threads that flow cases and capacity trials share: `threads`, or
    // one per core of the machine.
    int worker_threads() const {
        return threads > 0 ? threads : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    }
};

}  // namespace rivola
