-- A wall with a discharge coefficient.
-- expect: W14
-- level: 1
UPDATE tbl_rvldaten SET HVE_mue = 0.6 WHERE bez = 'W2';
