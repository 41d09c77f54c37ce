-- A wall with rectangular openings without width.
-- expect: H52
-- level: 2
UPDATE tbl_rvldaten SET HVE_BU = NULL WHERE bez = 'W2';
