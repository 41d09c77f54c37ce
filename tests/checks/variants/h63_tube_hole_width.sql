-- Immersion tubes with rectangular holes without width.
-- expect: H63
-- level: 2
UPDATE tbl_rvldaten SET HVE_T = 'T' WHERE bez = 'T1';
