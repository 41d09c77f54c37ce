-- A pump switching on above the invert of the rising main.
-- expect: W32
-- level: 1
UPDATE tbl_rvldaten SET HVE_H = 2.0 WHERE bez = 'P1';
